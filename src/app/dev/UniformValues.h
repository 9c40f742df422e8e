#pragma once
#include <map>
#include <string>
#include <vector>

#include "gl/GlHeaders.h"

// The values of a program's uniforms by name, to carry them over to a rebuilt program: the load
// phase sets some only once (sampler units, the screen size), and a version of the file that
// did not use one must not lose it for the next version.
class UniformValues {
public:
    // Adds (or updates) every active uniform of `program`.
    void readFrom(GLuint program);
    // Sets every remembered uniform that `program`, which must be in use, also has.
    void applyTo(GLuint program) const;
    std::size_t size() const { return values_.size(); }

private:
    struct Value {
        GLenum type = 0;
        std::vector<GLfloat> floats;
        std::vector<GLint> ints;
    };
    std::map<std::string, Value> values_;  // one entry per array element ("a[2]")
};
