// Affine points on y^2 + xy = x^3 + b with the textbook chord-and-tangent
// formulas for characteristic 2 and a = 0, over the table-based field
// operations of literal_field.cpp:
//
//   chord, x1 != x2:     l = (y1 + y2) / (x1 + x2)
//                        x3 = l^2 + l + x1 + x2,  y3 = l (x1 + x3) + x3 + y1
//   tangent, x1 != 0:    l = x1 + y1 / x1
//                        x3 = l^2 + l,            y3 = x1^2 + (l + 1) x3
//
// -(x, y) = (x, x + y): two points with the same x and different y sum to O,
// and (0, sqrt b), its own negative, doubles to O. The tangent's y is the
// textbook's form rather than the chord's, so that the fast ladder's affine
// recovery is compared with a second derivation, not with itself.
#include "tests/crypto/literal.h"

namespace literal {

namespace {

struct Element {
  uint16_t w[kTempWords];
};

void CopyPoint(CurvePoint& dst, const CurvePoint& src) {
  ::FieldCopy(dst.x, src.x);
  ::FieldCopy(dst.y, src.y);
}

// l / d, for nonzero d.
Element Quotient(const uint16_t* l, const uint16_t* d) {
  Element inverse, q;
  FieldInverse(d, inverse.w);
  FieldMul(l, inverse.w, q.w);
  return q;
}

// l^2 + l.
Element SquarePlusSelf(const uint16_t* l) {
  Element square, sum;
  FieldSquare(l, square.w);
  FieldAdd(square.w, l, sum.w);
  return sum;
}

void Chord(const CurvePoint& p, const CurvePoint& q, CurvePoint& r) {
  Element dx, dy, l, t, u;
  FieldAdd(p.x, q.x, dx.w);
  FieldAdd(p.y, q.y, dy.w);
  l = Quotient(dy.w, dx.w);
  t = SquarePlusSelf(l.w);
  FieldAdd(t.w, dx.w, r.x);
  FieldAdd(p.x, r.x, t.w);
  FieldMul(l.w, t.w, u.w);
  FieldAdd(u.w, r.x, t.w);
  FieldAdd(t.w, p.y, r.y);
}

void Tangent(const CurvePoint& p, CurvePoint& r) {
  Element l = Quotient(p.y, p.x), t, u;
  FieldAdd(l.w, p.x, l.w);
  t = SquarePlusSelf(l.w);
  ::FieldCopy(r.x, t.w);
  FieldMul(l.w, r.x, t.w);
  FieldAdd(t.w, r.x, u.w);
  FieldSquare(p.x, t.w);
  FieldAdd(u.w, t.w, r.y);
}

}  // namespace

void PointAdd(const CurvePoint& p, const CurvePoint& q, CurvePoint& r) {
  if (IsPointAtInfinityVar(p)) return CopyPoint(r, q);
  if (IsPointAtInfinityVar(q)) return CopyPoint(r, p);
  if (!FieldEqual(p.x, q.x)) return Chord(p, q, r);
  if (!FieldEqual(p.y, q.y) || FieldEqual(p.x, ::FieldZero)) return SetPointAtInfinity(r);
  Tangent(p, r);
}

void PointMultiply(const uint16_t* k, const CurvePoint& p, CurvePoint& r) {
  CurvePoint acc, tmp;
  CopyPoint(acc, p);
  for (int i = k[0] - 1; i >= 1; --i) {
    PointAdd(acc, acc, tmp);
    if (k[i] == 1) {
      PointAdd(tmp, p, acc);
    } else {
      CopyPoint(acc, tmp);
    }
  }
  CopyPoint(r, acc);
}

}  // namespace literal
