# The default mesh effect, loaded as "mesh.fx,shared": the first texture
# times the vertex colour, lit by the frame's directional light and ambient
# colour from the shared pool. Dynamic geometry arrives in world space, static
# meshes with their world matrix.
parameter shared float4x4 g_mViewInv
parameter shared float4 g_vLight = 0 0 -1 1 "direction of the sun"
parameter shared float4 g_vLightColor = 1 1 1 1
parameter shared float4 g_vAmbient = 0.4 0.4 0.4 1
parameter shared float4 g_vCameraPos = 0 0 0 1
parameter float4x4 g_mViewProjection
parameter float4x4 g_mView
parameter float4x4 g_mWorld
parameter float4x4 g_mWorldView
parameter float4x4 g_mWorldViewProjection
parameter texture tex0

shader vertex meshVS
in vec4 inPosition;
in vec3 inNormal;
in vec4 inDiffuse;
in vec2 inTexCoord0;
uniform mat4 g_mWorld;
uniform mat4 g_mWorldViewProjection;
out vec3 vNormal;
out vec4 vDiffuse;
out vec2 vTexCoord;
void main() {
    gl_Position = PlatToClip(g_mWorldViewProjection * vec4(inPosition.xyz, 1.0));
    vNormal = mat3(g_mWorld) * inNormal;
    vDiffuse = inDiffuse;
    vTexCoord = inTexCoord0;
}
end

shader fragment meshFS
uniform vec4 g_vLight;
uniform vec4 g_vLightColor;
uniform vec4 g_vAmbient;
uniform sampler2D uTexture0;
in vec3 vNormal;
in vec4 vDiffuse;
in vec2 vTexCoord;
out vec4 outColour;
void main() {
    float lambert = max(dot(normalize(vNormal), -normalize(g_vLight.xyz)), 0.0);
    vec3 light = g_vAmbient.rgb + lambert * g_vLightColor.rgb;
    vec4 texel = texture(uTexture0, vTexCoord);
    outColour = vec4(texel.rgb * vDiffuse.rgb * light, texel.a * vDiffuse.a);
}
end

technique Mesh
  pass P0
    vertex meshVS
    fragment meshFS
    texture 0 tex0
end
