# Plain drawing: the first texture times the vertex colour, unlit. Stands in
# for effect files that cannot be read.
parameter texture tex0

technique Simple
  pass P0
    render LIGHTING FALSE
    stage 0 COLOROP MODULATE
    stage 0 COLORARG1 TEXTURE
    stage 0 COLORARG2 DIFFUSE
    texture 0 tex0
end
