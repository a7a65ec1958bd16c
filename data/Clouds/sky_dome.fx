# The sky dome: the vertex colours of its bands times the gradient texture,
# unlit and unfogged. The dome is drawn first and the depth is cleared after
# the sky, so it neither tests nor writes depth; it is seen from inside, so
# both windings draw.
parameter texture tex0

technique SkyDome
  pass P0
    render LIGHTING FALSE
    render FOGENABLE FALSE
    render ZENABLE FALSE
    render ZWRITEENABLE FALSE
    render CULLMODE NONE
    render ALPHABLENDENABLE FALSE
    stage 0 COLOROP MODULATE
    stage 0 COLORARG1 TEXTURE
    stage 0 COLORARG2 DIFFUSE
    stage 0 ALPHAOP SELECTARG1
    stage 0 ALPHAARG1 DIFFUSE
    sampler 0 MINFILTER LINEAR
    sampler 0 MAGFILTER LINEAR
    sampler 0 ADDRESSU WRAP
    sampler 0 ADDRESSV CLAMP
    texture 0 tex0
end
