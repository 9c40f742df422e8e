#include "gl/InlineProgram.h"

#include "gl/GlEntryTable.h"
#include "gl/LinkedProgram.h"

GLuint linkInlineProgram(const char* vertexSource, const char* fragmentSource, std::string& log) {
    const char* vertexTexts[2] = {vertexSource, ""};
    const char* fragmentTexts[2] = {fragmentSource, ""};
    const LinkedProgram linked = compileAndLink(vertexTexts, fragmentTexts);
    log = linked.vertexLog + linked.fragmentLog + linked.programLog;
    // Flagged for deletion, the shaders go with the program.
    gl.glDeleteShader(linked.vertexShader);
    gl.glDeleteShader(linked.fragmentShader);
    if (linked.linked) return linked.program;
    gl.glDeleteProgram(linked.program);
    return 0;
}
