#include "viewer/core/shader_sources.h"

const char* const kTerrainVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPos;
layout(location = 1) in float aDepth;
layout(location = 2) in vec2 aUV;
layout(location = 3) in vec3 aNormal;

uniform mat4 view;
uniform mat4 projection;

out float vDepth;
out vec2 vUV;
out vec3 vNormal;

void main() {
    vDepth = aDepth;
    vUV = aUV;
    vNormal = aNormal;
    gl_Position = projection * view * vec4(aPos, 1.0);
}
)";

// The satellite texture is sampled before branching: mipmap selection needs
// derivatives, which are undefined inside a branch that neighbouring
// fragments on the other side of the shoreline do not take.
const char* const kTerrainFragmentShader = R"(#version 330 core
in float vDepth;
in vec2 vUV;
in vec3 vNormal;

uniform float seaLevel;
uniform sampler2D satelliteTex;
uniform int useSatellite;

out vec4 FragColor;

void main() {
    vec3 satellite = texture(satelliteTex, vUV).rgb;
    float rel = vDepth - seaLevel;
    vec3 colour;
    if (rel >= 0.0) {
        if (useSatellite == 1) {
            colour = satellite;
        } else {
            float t = clamp(rel / 40.0, 0.0, 1.0);
            colour = mix(vec3(0.30, 0.60, 0.25), vec3(0.42, 0.28, 0.15), t);
        }
    } else {
        float t = clamp(-rel / 25.0, 0.0, 1.0);
        colour = mix(vec3(0.55, 0.85, 0.95), vec3(0.02, 0.10, 0.30), t);
    }

    vec3 lightDir = normalize(vec3(-0.4, -0.8, -0.3));
    vec3 n = normalize(vNormal);
    float diffuse = max(dot(n, -lightDir), 0.0);
    float ambient = 0.45;
    colour *= ambient + diffuse * (1.0 - ambient);

    FragColor = vec4(colour, 1.0);
    if (abs(rel) < 0.15) FragColor = mix(FragColor, vec4(1.0, 1.0, 0.6, 1.0), 0.6);
}
)";

const char* const kColourVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec4 aColor;

uniform mat4 view;
uniform mat4 projection;

out vec4 vColor;

void main() {
    vColor = aColor;
    gl_Position = projection * view * vec4(aPos, 1.0);
}
)";

const char* const kColourFragmentShader = R"(#version 330 core
in vec4 vColor;
out vec4 FragColor;

void main() {
    FragColor = vColor;
}
)";
