# Particles blended over the frame: the texture times the vertex colour,
# faded by their alpha. They are tested against the depth of the scene but
# write none, so overlapping particles never cut into each other; both
# windings are drawn.
parameter texture tex0

technique Particle
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
