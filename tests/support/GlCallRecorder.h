#pragma once
#include <map>
#include <string>
#include <vector>

#include "gl/GlEntryTable.h"

// Records the GL calls a scene makes by wrapping slots of the entry table, while every call still
// goes on to the driver. Uniform settings carry the uniform's name, resolved from the location
// the program looked up just before; each draw carries the state it was issued with. One recorder
// at a time; the table is restored when it goes.
class GlCallRecorder {
public:
    static constexpr int kUnits = 8;

    struct Call {
        std::string function;      // "glUniform1f", "glDrawElements", ...
        std::string uniform;       // for glUniform*: the name set
        std::vector<double> args;  // numeric arguments; a matrix upload gives its 16 floats
    };

    struct Draw {
        GLuint program = 0;
        GLuint vertexArray = 0;
        bool indexed = false;
        int count = 0;
        GLuint textures[kUnits] = {};  // GL_TEXTURE_2D binding of units 0 .. 7
        bool depthTest = false;
        bool blend = false;
        // The last value of each uniform set on `program` since recording began.
        std::map<std::string, std::vector<double>> uniforms;

        // The uniform's values, or an empty list when it was not set.
        std::vector<double> uniform(const std::string& name) const;
    };

    GlCallRecorder();
    ~GlCallRecorder();
    GlCallRecorder(const GlCallRecorder&) = delete;
    GlCallRecorder& operator=(const GlCallRecorder&) = delete;

    // Puts the driver's entries back; what was recorded stays readable.
    void stop();

    const std::vector<Call>& calls() const { return calls_; }
    const std::vector<Draw>& draws() const { return draws_; }
    // Every value `uniform` was set to, in order, on whichever program was in use.
    std::vector<std::vector<double>> uniformSettings(const std::string& uniform) const;
    // The calls as short lines ("glUseProgram 3", "glUniform1f t_add 1", "glDrawElements 6")
    // for checking their order.
    std::vector<std::string> lines() const;

private:
    friend struct GlRecorderHooks;
    void record(const char* function, std::vector<double> args, std::string uniform = "");
    std::string uniformName(GLint location) const;
    void drawn(bool indexed, int count);

    GlEntryTable saved_;
    bool recording_ = true;
    std::vector<Call> calls_;
    std::vector<Draw> draws_;
    GLuint program_ = 0;
    GLuint vertexArray_ = 0;
    int activeUnit_ = 0;
    GLuint textures_[kUnits] = {};
    bool depthTest_ = false;
    bool blend_ = false;
    std::string lastLookupName_;
    GLint lastLookupLocation_ = -1;
    std::map<std::pair<GLuint, GLint>, std::string> names_;
    std::map<GLuint, std::map<std::string, std::vector<double>>> uniformState_;
};
