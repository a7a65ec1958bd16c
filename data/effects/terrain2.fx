# The level's ground: the colour map stretched once over the whole ground
# quad (first texture coordinates), times the detail texture tiled by the
# second texture coordinates. The product is doubled, so that a detail
# texture around mid-grey keeps the colour map's brightness. Unlit: the
# ground is as bright as its pictures.
parameter texture tex0
parameter texture tex1

technique Terrain
  pass P0
    render LIGHTING FALSE
    stage 0 COLOROP MODULATE
    stage 0 COLORARG1 TEXTURE
    stage 0 COLORARG2 DIFFUSE
    stage 0 TEXCOORDINDEX 0
    stage 1 COLOROP MODULATE2X
    stage 1 COLORARG1 TEXTURE
    stage 1 COLORARG2 CURRENT
    stage 1 TEXCOORDINDEX 1
    sampler 1 ADDRESSU WRAP
    sampler 1 ADDRESSV WRAP
    texture 0 tex0
    texture 1 tex1
end
