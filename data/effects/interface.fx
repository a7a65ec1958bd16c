# Interface pages and fonts: the texture times the vertex colour, unlit and
# blended over the frame by its alpha. Point sampling keeps the texels of
# the page and font atlases sharp. Pages are flat screen overlays drawn in
# pixels: no depth test, no culling.
parameter texture tex0

technique Interface
  pass P0
    render LIGHTING FALSE
    render ZENABLE FALSE
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
    sampler 0 MINFILTER POINT
    sampler 0 MAGFILTER POINT
    sampler 0 MIPFILTER NONE
    sampler 0 ADDRESSU CLAMP
    sampler 0 ADDRESSV CLAMP
    texture 0 tex0
end
