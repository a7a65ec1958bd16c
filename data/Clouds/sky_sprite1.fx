# A glowing sky sprite (the sun): its texture's colour added to the dome,
# weighted by the texture's alpha times the vertex alpha (the weather fades
# sprites through the vertex alpha). No depth, no culling, no light or fog.
parameter texture tex0

technique SkyGlow
  pass P0
    render LIGHTING FALSE
    render FOGENABLE FALSE
    render ZENABLE FALSE
    render ZWRITEENABLE FALSE
    render CULLMODE NONE
    render ALPHABLENDENABLE TRUE
    render SRCBLEND SRCALPHA
    render DESTBLEND ONE
    stage 0 COLOROP SELECTARG1
    stage 0 COLORARG1 TEXTURE
    stage 0 ALPHAOP MODULATE
    stage 0 ALPHAARG1 TEXTURE
    stage 0 ALPHAARG2 DIFFUSE
    sampler 0 MINFILTER LINEAR
    sampler 0 MAGFILTER LINEAR
    sampler 0 ADDRESSU CLAMP
    sampler 0 ADDRESSV CLAMP
    texture 0 tex0
end
