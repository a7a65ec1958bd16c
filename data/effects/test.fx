# Track lines: every triangle drawn as its outline in the vertex colour, both
# sides, so that the zero-area triangles of a line's pieces show as lines.
technique Lines
  pass P0
    render LIGHTING FALSE
    render CULLMODE NONE
    render FILLMODE WIREFRAME
    stage 0 COLOROP SELECTARG1
    stage 0 COLORARG1 DIFFUSE
end
