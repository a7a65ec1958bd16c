#pragma once

#include <string>
#include <vector>

class CPVertexEffect;

// The vertex effect a description names by keyword, built from its
// arguments; null for an unknown keyword or bad arguments. Stands in until
// the vertex effects land: it knows no keyword yet.
CPVertexEffect* CreateVertexEffect(const std::string& keyword, const std::vector<std::string>& arguments);
