# Shadows: the geometry flattened by the level's device WORLD transform (the
# shadow projection) and seen through the level's camera, darkening what is
# below it.
shader vertex shadowVS
in vec4 inPosition;
void main() {
    gl_Position = PlatToClip(uProjection * (uView * (uWorld * vec4(inPosition.xyz, 1.0))));
}
end

shader fragment shadowFS
out vec4 outColour;
void main() { outColour = vec4(0.0, 0.0, 0.0, 0.5); }
end

technique Shadow
  pass P0
    vertex shadowVS
    fragment shadowFS
    render ALPHABLENDENABLE TRUE
    render SRCBLEND SRCALPHA
    render DESTBLEND INVSRCALPHA
    render ZWRITEENABLE FALSE
    render CULLMODE NONE
end
