# The blob shadow under a car: the decal laid over the ground triangles
# under the car, darkening them by the shadow texture's alpha. The texture's
# colour is black; its alpha falls off toward the rim of the footprint.
# Drawn after the ground without writing depth, so that it never hides what
# stands on it. The decal's ground triangles reach far beyond the footprint,
# where the clamped texture's transparent border must hold: no mipmaps,
# whose small levels would smear the shadow across the ground.
parameter texture tex0

technique Shadow
  pass P0
    render LIGHTING FALSE
    render ZWRITEENABLE FALSE
    render CULLMODE NONE
    render ALPHABLENDENABLE TRUE
    render SRCBLEND SRCALPHA
    render DESTBLEND INVSRCALPHA
    stage 0 COLOROP SELECTARG1
    stage 0 COLORARG1 TEXTURE
    stage 0 ALPHAOP SELECTARG1
    stage 0 ALPHAARG1 TEXTURE
    sampler 0 MIPFILTER NONE
    sampler 0 ADDRESSU CLAMP
    sampler 0 ADDRESSV CLAMP
    texture 0 tex0
end
