# Bloom, first step: keeps only what is brighter than the threshold, scaled
# back to the full range. Every texture parameter receives the frame at half
# size; the pass draws at a quarter, each pixel reading the middle of two by
# two texels, their average. The quad arrives pre-transformed.
parameter texture tex0 "the frame, half size"

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

shader fragment brightFS
uniform sampler2D tex0;
in vec2 vTexCoord;
out vec4 outColour;
const float kThreshold = 0.6;
void main() {
    vec3 colour = texture(tex0, vTexCoord).rgb;
    outColour = vec4(max(colour - vec3(kThreshold), 0.0) / (1.0 - kThreshold), 1.0);
}
end

technique BrightPass
  pass P0
    vertex screenVS
    fragment brightFS
    render ALPHABLENDENABLE FALSE
    render CULLMODE NONE
    texture 0 tex0
end
