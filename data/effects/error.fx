# Draws everything in flat magenta: marks geometry whose effect did not compile.
shader vertex placeVS
in vec4 inPosition;
void main() {
    gl_Position = PlatToClip(uProjection * (uView * (uWorld * vec4(inPosition.xyz, 1.0))));
}
end

shader fragment magentaFS
out vec4 outColour;
void main() { outColour = vec4(1.0, 0.0, 1.0, 1.0); }
end

technique Error
  pass P0
    vertex placeVS
    fragment magentaFS
end
