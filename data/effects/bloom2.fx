# Bloom, second step: spreads the bright parts with a Gaussian blur, across
# and then down, each pass reading what the one before left. Every texture
# parameter receives the small picture, a quarter of the screen's size, so a
# step of one of its texels is four pixels of the screen. The quad arrives
# pre-transformed.
parameter texture tex0 "the bright parts, small"

shader vertex screenVS
in vec4 inPosition;
in vec2 inTexCoord0;
out vec2 vTexCoord;
void main() {
    vec2 ndc = vec2(inPosition.x * 2.0 / uTargetSize.x - 1.0, 1.0 - inPosition.y * 2.0 / uTargetSize.y);
    gl_Position = PlatToClip(vec4(ndc, inPosition.z, 1.0));
    vTexCoord = inTexCoord0;
}
end

shader fragment acrossFS
uniform sampler2D tex0;
in vec2 vTexCoord;
out vec4 outColour;
const float kWeights[5] = float[](0.227027, 0.1945946, 0.1216216, 0.054054, 0.016216);
void main() {
    vec2 step = vec2(1.0 / float(textureSize(tex0, 0).x), 0.0);
    vec3 sum = texture(tex0, vTexCoord).rgb * kWeights[0];
    for (int i = 1; i < 5; ++i)
        sum += (texture(tex0, vTexCoord + step * float(i)).rgb + texture(tex0, vTexCoord - step * float(i)).rgb) *
               kWeights[i];
    outColour = vec4(sum, 1.0);
}
end

shader fragment downFS
uniform sampler2D tex0;
in vec2 vTexCoord;
out vec4 outColour;
const float kWeights[5] = float[](0.227027, 0.1945946, 0.1216216, 0.054054, 0.016216);
void main() {
    vec2 step = vec2(0.0, 1.0 / float(textureSize(tex0, 0).y));
    vec3 sum = texture(tex0, vTexCoord).rgb * kWeights[0];
    for (int i = 1; i < 5; ++i)
        sum += (texture(tex0, vTexCoord + step * float(i)).rgb + texture(tex0, vTexCoord - step * float(i)).rgb) *
               kWeights[i];
    outColour = vec4(sum, 1.0);
}
end

technique Spread
  pass Across
    vertex screenVS
    fragment acrossFS
    render ALPHABLENDENABLE FALSE
    render CULLMODE NONE
    texture 0 tex0
  pass Down
    vertex screenVS
    fragment downFS
    render ALPHABLENDENABLE FALSE
    render CULLMODE NONE
    texture 0 tex0
end
