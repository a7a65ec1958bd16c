# The lens flare: the flare texture times the vertex colour, added to the
# frame; the vertex alpha fades every element in and out together.
parameter texture tex0

technique LensFlare
  pass P0
    render LIGHTING FALSE
    render ZENABLE FALSE
    render ZWRITEENABLE FALSE
    render CULLMODE NONE
    render ALPHABLENDENABLE TRUE
    render SRCBLEND SRCALPHA
    render DESTBLEND ONE
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
