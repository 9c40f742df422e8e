#pragma once
#include <string>

#include "gl/GlHeaders.h"

struct Matrix4;

// One linked GL program built from one ".shader" file that holds both stages: the file is compiled
// twice, behind "#version 330\n#define vertexcompile\n" and "#version 330\n#define
// fragmentcompile\n" (on WebGL 2 "#version 300 es" and precision statements, ShaderVersion.h).
class ShaderProgram {
public:
    enum BuildMode { Rebuild = 0, FirstBuild = 1, ReleaseOnly = 2 };

    // Builds the program at once (FirstBuild).
    explicit ShaderProgram(std::string path);
    // Deletes the GL objects, silently.
    ~ShaderProgram();
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    // Prints "reloading <path>", releases the old GL objects unless this is the first build, then
    // (unless ReleaseOnly) reads, compiles and links, printing the logs of whatever failed.
    void build(int mode);
    // Builds the file again, keeping the old program when the new one fails: for hot reload.
    // When both stages compile and link, the new objects replace the old ones and the new program
    // is left in use, its uniforms at their defaults. Otherwise nothing changes and `log` holds
    // what failed, in the form build() prints. Prints nothing either way.
    bool rebuildKeepingOld(std::string& log);
    // Looked up by name on every call: nothing is cached, so a rebuilt program keeps working.
    GLint uniformLocation(std::string name) const;
    void use() const;

    // Set a uniform of this program, which must be the one in use, looking its location up by name.
    void setFloat(const char* name, float v) const;
    void setFloat2(const char* name, float x, float y) const;
    void setFloat3(const char* name, float x, float y, float z) const;
    void setFloat4(const char* name, float x, float y, float z, float w) const;
    void setInt(const char* name, int v) const;
    void setMatrix(const char* name, const Matrix4& m) const;

    GLuint program = 0;
    GLuint vertexShader = 0;
    GLuint fragmentShader = 0;
    std::string path;

private:
    void releaseObjects();
    // After ReleaseOnly the fields hold names the GL may already have given to other objects.
    bool released_ = false;
};
