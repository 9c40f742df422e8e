#pragma once
#include <string>

#include "gl/GlHeaders.h"

// A program and its two shader objects, as compileAndLink leaves them, with what each step said.
struct LinkedProgram {
    GLuint program = 0;
    GLuint vertexShader = 0;
    GLuint fragmentShader = 0;
    bool vertexCompiled = false;
    bool fragmentCompiled = false;
    bool linked = false;
    // The info logs of the steps that failed (empty for those that worked).
    std::string vertexLog;
    std::string fragmentLog;
    std::string programLog;

    // Deleting the program detaches whatever is attached to it.
    void deleteObjects() const;
};

// The one compile-and-link of the program: each stage from its texts (given to the GL one after
// the other, like a prefix and a file), both attached and linked whether or not they compiled, so
// the link log says what is missing. Nothing is printed and nothing deleted: the caller keeps or
// drops the objects.
LinkedProgram compileAndLink(const char* const vertexTexts[2], const char* const fragmentTexts[2]);
