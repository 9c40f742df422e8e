#include <gtest/gtest.h>

#include "CaveModel.h"
#include "MeshFileChecks.h"
#include "TempleModel.h"
#include "geometry/MeshFile.h"

namespace {

// The committed files are exactly what the generator makes today.
TEST(MeshRegeneration, TempleGivesTheCommittedBytes) {
    EXPECT_TRUE(encodeMeshFile(buildTempleMesh()) == readFileBytes(kTemplePath));
}

TEST(MeshRegeneration, CaveGivesTheCommittedBytes) {
    EXPECT_TRUE(encodeMeshFile(buildCaveMesh()) == readFileBytes(kCavePath));
}

}  // namespace
