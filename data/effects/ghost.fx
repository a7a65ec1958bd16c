# The ghost of the best run in a time trial: the mesh lit like mesh.fx,
# washed toward a pale blue and blended over the frame at a third of its
# strength. It writes no depth, so the car and the road show through it.
parameter shared float4x4 g_mViewInv
parameter shared float4 g_vLight = 0 0 -1 1 "direction of the sun"
parameter shared float4 g_vLightColor = 1 1 1 1
parameter shared float4 g_vAmbient = 0.4 0.4 0.4 1
parameter shared float4 g_vCameraPos = 0 0 0 1
parameter float4x4 g_mWorld
parameter float4x4 g_mWorldViewProjection
parameter texture tex0

shader vertex ghostVS
in vec4 inPosition;
in vec3 inNormal;
in vec2 inTexCoord0;
uniform mat4 g_mWorld;
uniform mat4 g_mWorldViewProjection;
out vec3 vNormal;
out vec2 vTexCoord;
void main() {
    gl_Position = PlatToClip(g_mWorldViewProjection * vec4(inPosition.xyz, 1.0));
    vNormal = mat3(g_mWorld) * inNormal;
    vTexCoord = inTexCoord0;
}
end

shader fragment ghostFS
uniform vec4 g_vLight;
uniform vec4 g_vLightColor;
uniform vec4 g_vAmbient;
uniform sampler2D uTexture0;
in vec3 vNormal;
in vec2 vTexCoord;
out vec4 outColour;
void main() {
    float lambert = max(dot(normalize(vNormal), -normalize(g_vLight.xyz)), 0.0);
    vec3 light = g_vAmbient.rgb + lambert * g_vLightColor.rgb;
    vec3 colour = mix(texture(uTexture0, vTexCoord).rgb * light, vec3(0.6, 0.8, 1.0), 0.5);
    outColour = vec4(colour, 0.35);
}
end

technique Ghost
  pass P0
    vertex ghostVS
    fragment ghostFS
    render ZWRITEENABLE FALSE
    render ALPHABLENDENABLE TRUE
    render SRCBLEND SRCALPHA
    render DESTBLEND INVSRCALPHA
    texture 0 tex0
end
