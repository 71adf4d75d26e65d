#pragma once

// The structure description ("axStructS") built from the form layout files: the tab entries of
// the four record kinds, then one field entry per described row of the layout, in file order.

#include "common/FormLayout.h"

#include <string>
#include <vector>

namespace dravik::server {

// Grid column descriptors: the grids read their widths in pixels, as they stand.
bool isGridDescriptor(const std::string &desc);

std::string buildStructure(const std::vector<TabRow> &tabs, const std::vector<LayoutRow> &layout);

} // namespace dravik::server
