# The sky dome lit by the scene's lights: the gradient texture times the lit
# vertex colour. The sky keeps it as its second effect.
parameter texture tex0

technique SkyscapeLight
  pass P0
    render LIGHTING TRUE
    render FOGENABLE FALSE
    render ZENABLE FALSE
    render ZWRITEENABLE FALSE
    render CULLMODE NONE
    stage 0 COLOROP MODULATE
    stage 0 COLORARG1 TEXTURE
    stage 0 COLORARG2 DIFFUSE
    sampler 0 ADDRESSV CLAMP
    texture 0 tex0
end
