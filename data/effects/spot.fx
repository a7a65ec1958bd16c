# Spots on the ground: the texture times the vertex colour, blended by its
# alpha. They lie just above their surface, are tested against the scene's
# depth and write none, so marks laid over each other blend.
parameter texture tex0

technique Spot
  pass P0
    render LIGHTING FALSE
    render ZWRITEENABLE FALSE
    render CULLMODE NONE
    render ALPHABLENDENABLE TRUE
    render SRCBLEND SRCALPHA
    render DESTBLEND INVSRCALPHA
    stage 0 COLOROP MODULATE
    stage 0 COLORARG1 TEXTURE
    stage 0 COLORARG2 DIFFUSE
    stage 0 ALPHAOP MODULATE
    stage 0 ALPHAARG1 TEXTURE
    stage 0 ALPHAARG2 DIFFUSE
    sampler 0 MINFILTER LINEAR
    sampler 0 MAGFILTER LINEAR
    sampler 0 ADDRESSU CLAMP
    sampler 0 ADDRESSV CLAMP
    texture 0 tex0
end
