# Bloom, last step: lays the bloom picture, weighted by its own colour, and
# the grain, by its alpha, over the frame in one pass: the frame becomes
# (1 - a) x (frame + bloom x bloom) + a x grain, where a is the grain's alpha.
# The quad arrives pre-transformed, in pixels of the frame.
parameter texture tex0 "the bloom picture, small"
parameter texture tex1 "the grain"

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

shader fragment combineFS
uniform sampler2D tex0;
uniform sampler2D tex1;
in vec2 vTexCoord;
out vec4 outColour;
void main() {
    vec3 bloom = texture(tex0, vTexCoord).rgb;
    vec4 grain = texture(tex1, vTexCoord);
    outColour = vec4((1.0 - grain.a) * bloom * bloom + grain.a * grain.rgb, grain.a);
}
end

technique Combine
  pass P0
    vertex screenVS
    fragment combineFS
    render ALPHABLENDENABLE TRUE
    render SRCBLEND ONE
    render DESTBLEND INVSRCALPHA
    render CULLMODE NONE
    texture 0 tex0
    texture 1 tex1
end
