// The presence list against the code: every entry point above GL 1.1 that src calls through the
// table must be on it (or a driver without that entry would be called through null), and nothing
// else. Then a driver that lacks one: the front end refuses with one line.
#include <EGL/egl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "app/DemoWindow.h"
#include "gl/GlEntryTable.h"
#include "support/GlTestContext.h"

namespace {

std::string hiddenEntry;  // the entry point the "driver" below lacks

}  // namespace

// The headless front end's look-up, interposed: the driver as it is, less `hiddenEntry`.
extern "C" __eglMustCastToProperFunctionPointerType eglGetProcAddress(const char* name) {
    using Lookup = __eglMustCastToProperFunctionPointerType (*)(const char*);
    static const Lookup real = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "eglGetProcAddress"));
    if (name == hiddenEntry) return nullptr;
    return real(name);
}

namespace {

// Every `gl.glName` in src (the tests run from the source tree) that names a slot above 1.1.
std::set<std::string> entriesCalledInSrc(int& filesRead) {
    const std::regex call(R"(\bgl\s*\.\s*(gl\w+))");
    std::set<std::string> names;
    filesRead = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("src")) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".cpp" && extension != ".h") continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        ++filesRead;
        const std::string source = text.str();
        for (std::sregex_iterator m(source.begin(), source.end(), call), end; m != end; ++m) {
            const std::string name = (*m)[1];
            if (glEntrySlot(name.c_str())) names.insert(name);
        }
    }
    return names;
}

void* lookUp(const char* name) {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

}  // namespace

TEST(GlEntryPresence, TheListHoldsExactlyTheEntriesAbove11ThatSrcCalls) {
    int files = 0;
    const std::set<std::string> called = entriesCalledInSrc(files);
    ASSERT_GT(files, 100) << "run from the source tree";
    const std::set<std::string> listed(std::begin(kGlEntriesCalled), std::end(kGlEntriesCalled));
    EXPECT_EQ(listed.size(), std::size(kGlEntriesCalled)) << "a name listed twice";
    for (const std::string& name : called)
        EXPECT_TRUE(listed.count(name)) << name << " is called in src but not in kGlEntriesCalled";
    for (const std::string& name : listed)
        EXPECT_TRUE(called.count(name)) << name << " is in kGlEntriesCalled but src never calls it";
}

TEST(GlEntryPresence, ADriverWithoutAnyOneCalledEntryIsRefusedByName) {
    GlTestContext context;
    ASSERT_TRUE(context.ok());
    for (const char* name : kGlEntriesCalled) {
        hiddenEntry = name;
        resolveGlEntryTable(lookUp);
        EXPECT_STREQ(firstMissingGlEntry(), name);
    }
    hiddenEntry.clear();
    resolveGlEntryTable(lookUp);
    EXPECT_EQ(firstMissingGlEntry(), nullptr);
}

TEST(GlEntryPresence, TheFrontEndSaysWhichEntryIsMissingInOneLineInsteadOfStarting) {
    hiddenEntry = "glBlitFramebuffer";
    DemoWindow window;
    ::testing::internal::CaptureStdout();
    const bool created = window.create(32, 16, false);
    const std::string said = ::testing::internal::GetCapturedStdout();
    window.shutdown();
    hiddenEntry.clear();
    EXPECT_FALSE(created);
    EXPECT_EQ(said, "The OpenGL driver does not provide glBlitFramebuffer\n");
}
