# Motion blur: the copy of the frame smeared away from the middle of the
# screen, the more the faster the player's car goes (SpeedRatio 0 to 1). The
# mask keeps the middle sharp; the output alpha says how much of the smeared
# picture covers the frame, so a standing car leaves the frame as it was.
# The quad arrives pre-transformed, in pixels of the target.
parameter texture tex0 "copy of the frame"
parameter texture tex1 "where the blur may reach, in alpha"
parameter float SpeedRatio = 0
parameter int Forward = 1 "1: smear outwards, 0: inwards"

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

shader fragment blurFS
uniform sampler2D tex0;
uniform sampler2D tex1;
uniform float SpeedRatio;
uniform int Forward;
in vec2 vTexCoord;
out vec4 outColour;
const int kTaps = 8;
const float kReach = 0.08;
void main() {
    float strength = clamp(SpeedRatio, 0.0, 1.0) * texture(tex1, vTexCoord).a;
    vec2 away = (vTexCoord - vec2(0.5)) * (Forward != 0 ? 1.0 : -1.0) * strength * kReach;
    vec3 sum = vec3(0.0);
    for (int i = 0; i < kTaps; ++i)
        sum += texture(tex0, vTexCoord - away * float(i) / float(kTaps - 1)).rgb;
    outColour = vec4(sum / float(kTaps), strength);
}
end

technique Blur
  pass P0
    vertex screenVS
    fragment blurFS
    render ALPHABLENDENABLE FALSE
    render CULLMODE NONE
    texture 0 tex0
    texture 1 tex1
end
