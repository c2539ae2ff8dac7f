#include "mini_vec_draw_reference.h"

#include <algorithm>
#include <cmath>

namespace {

struct TRefEdge {
  float x0, y0, x1, y1;
  int colour, id;
};

float ReadCoord(const uint8_t* p) { return float(int16_t(uint16_t(p[0] | p[1] << 8))); }

std::vector<TRefEdge> Edges(const std::vector<uint8_t>& shape, const TReferenceParams& params) {
  std::vector<TRefEdge> edges;
  int id = 2, base = 0, colours = 0, left = 0, right = 0;
  float px = 0, py = 0;
  auto add = [&](float x0, float y0, float x1, float y1) {
    if (params.italic) x0 -= y0 / 3, x1 -= y1 / 3;
    TRefEdge e{x0 * params.scaleX + params.phaseX, y0 * params.scaleY + params.phaseY,
               x1 * params.scaleX + params.phaseX, y1 * params.scaleY + params.phaseY,
               left ? left : right, id};
    if (e.y0 > e.y1) std::swap(e.x0, e.x1), std::swap(e.y0, e.y1);
    edges.push_back(e);
  };
  for (size_t i = 0; i < shape.size();) {
    const uint8_t* p = &shape[i];
    switch (p[0]) {
      case 1: ++id, base = colours, left = right = 0, i += 1; break;
      case 2: left = p[1] ? base + p[1] : 0, i += 2; break;
      case 3: right = p[1] ? base + p[1] : 0, i += 2; break;
      case 4: px = ReadCoord(p + 1), py = ReadCoord(p + 3), i += 5; break;
      case 5: {
        float x = ReadCoord(p + 1), y = ReadCoord(p + 3);
        add(px, py, x, y);
        px = x, py = y, i += 5;
        break;
      }
      case 6: {
        float cx = ReadCoord(p + 1), cy = ReadCoord(p + 3), x = ReadCoord(p + 5), y = ReadCoord(p + 7);
        float sx = px, sy = py;
        for (int k = 1; k <= 3; ++k) {
          float t = k / 3.0f, u = 1 - t;
          float qx = k == 3 ? x : u * u * sx + 2 * u * t * cx + t * t * x;
          float qy = k == 3 ? y : u * u * sy + 2 * u * t * cy + t * t * y;
          add(px, py, qx, qy);
          px = qx, py = qy;
        }
        i += 9;
        break;
      }
      case 7: ++colours, i += 4; break;
      default: return edges;
    }
  }
  return edges;
}

}  // namespace

TCoverageMap ReferenceCoverage(const std::vector<uint8_t>& shape, const TReferenceParams& params) {
  std::vector<TRefEdge> edges = Edges(shape, params);
  TCoverageMap coverage;
  if (edges.empty()) return coverage;
  float top = edges[0].y0, bottom = edges[0].y1;
  for (const TRefEdge& e : edges) top = std::min(top, e.y0), bottom = std::max(bottom, e.y1);
  for (int y = int(std::floor(top)); y <= int(std::floor(bottom)); ++y) {
    // The edges crossing this sub-scanline, with their quarter-pixel column.
    std::vector<std::pair<int, const TRefEdge*>> crossing;
    for (const TRefEdge& e : edges) {
      if (std::floor(e.y0) == std::floor(e.y1) || !(e.y0 < y && y <= e.y1)) continue;
      float x = (y - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0) + e.x0;
      crossing.emplace_back(int(std::floor(x)), &e);
    }
    if (crossing.empty()) continue;
    int lo = crossing[0].first, hi = lo;
    for (auto& c : crossing) lo = std::min(lo, c.first), hi = std::max(hi, c.first);
    for (int q = lo; q < hi; ++q) {
      // The state at sample q: every edge at or left of it applied (order does not matter).
      std::map<int, int> state;
      for (auto& c : crossing) {
        if (c.first > q) continue;
        int& s = state[c.second->id];
        s = s ? 0 : c.second->colour;
      }
      int visible = 0;
      for (auto it = state.rbegin(); it != state.rend(); ++it) {
        if (it->second) {
          visible = it->second;
          break;
        }
      }
      if (!visible) continue;
      int row = (visible & 1) ? 3 : 2;
      ++coverage[{row, y >> 2, q >> 2}];
    }
  }
  return coverage;
}
