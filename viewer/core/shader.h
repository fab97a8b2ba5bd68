// A GL program built from one vertex and one fragment source.
#pragma once

#include <glm/glm.hpp>

class Shader {
public:
    unsigned int program = 0;  // 0 = not built

    Shader() = default;
    ~Shader();
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    // Compiles both stages and links them. On failure the program stays 0,
    // so a later use() reports it instead of binding a half-built program.
    bool load(const char* vertexSource, const char* fragmentSource);
    void use() const;
    void setMat4(const char* name, const glm::mat4& matrix) const;
    void setFloat(const char* name, float value) const;
    void setInt(const char* name, int value) const;
    // Deletes the program; needs the GL context that built it to be current.
    void release();
};
