#include "viewer/core/shader.h"

#include <glad/gl.h>
#include <glm/gtc/type_ptr.hpp>
#include <iostream>

namespace {

GLuint compileStage(GLenum type, const char* source) {
    const GLuint stage = glCreateShader(type);
    glShaderSource(stage, 1, &source, nullptr);
    glCompileShader(stage);
    GLint ok = 0;
    glGetShaderiv(stage, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[512] = {};
        glGetShaderInfoLog(stage, sizeof log, nullptr, log);
        std::cerr << "Erreur de compilation shader : " << log << std::endl;
    }
    return stage;
}

void reportUnbuilt() { std::cerr << "Erreur : Shader non initialisé!" << std::endl; }

} // namespace

Shader::~Shader() { release(); }

bool Shader::load(const char* vertexSource, const char* fragmentSource) {
    release();
    const GLuint vertex = compileStage(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = compileStage(GL_FRAGMENT_SHADER, fragmentSource);
    const GLuint linked = glCreateProgram();
    glAttachShader(linked, vertex);
    glAttachShader(linked, fragment);
    glLinkProgram(linked);
    GLint ok = 0;
    glGetProgramiv(linked, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[512] = {};
        glGetProgramInfoLog(linked, sizeof log, nullptr, log);
        std::cerr << "Erreur de lien shader : " << log << std::endl;
    }
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    if (!ok) {
        glDeleteProgram(linked);
        return false;
    }
    program = linked;
    return true;
}

void Shader::use() const {
    if (program == 0) return reportUnbuilt();
    glUseProgram(program);
}

void Shader::setMat4(const char* name, const glm::mat4& matrix) const {
    if (program == 0) return reportUnbuilt();
    glUniformMatrix4fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(matrix));
}

void Shader::setFloat(const char* name, float value) const {
    if (program == 0) return reportUnbuilt();
    glUniform1f(glGetUniformLocation(program, name), value);
}

void Shader::setInt(const char* name, int value) const {
    if (program == 0) return reportUnbuilt();
    glUniform1i(glGetUniformLocation(program, name), value);
}

void Shader::release() {
    if (program != 0) glDeleteProgram(program);
    program = 0;
}
