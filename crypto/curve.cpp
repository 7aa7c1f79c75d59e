#include "crypto/curve.h"

#include "crypto/dispatch.h"
#include "crypto/wipe.h"

const uint16_t CurveB[kElementWords] = {29, 0x00B9};
const uint16_t PointAtInfinity[kElementWords] = {kInfinityLength};

const CurvePoint BasePoint = {
    {29,     0xFD7F, 0x7FBF, 0x10B4, 0xCE91, 0x45BC, 0xE28E, 0x31AB, 0xC959, 0x9FA9, 0xBE0E,
     0x494F, 0xDD5D, 0x5275, 0x1CD5, 0x2E0B, 0xC38D, 0xB301, 0xCD7F, 0x10E9, 0xA0E4,
     0x88F5, 0x49EF, 0xBC0C, 0x354D, 0x4A13, 0x007D, 0xCEDF, 0xE8DC, 0x1FF3},
    {29,     0x9C1A, 0x514F, 0xF9A4, 0x9093, 0x415F, 0x79E8, 0xCE72, 0x8933, 0x24D0, 0x19FE,
     0xBFFD, 0x3067, 0xA3F5, 0x4441, 0x734C, 0x5322, 0xB66D, 0x5A58, 0xEB6D, 0xF794,
     0xD562, 0x9E11, 0x60B1, 0xFA79, 0x3A5F, 0x82E7, 0x1CC8, 0xD9CD, 0x4A4B},
};

bool IsPointAtInfinityVar(const CurvePoint& p) { return FieldEqual(p.x, PointAtInfinity); }

void SetPointAtInfinity(CurvePoint& p) {
  FieldCopy(p.x, PointAtInfinity);
  FieldCopy(p.y, PointAtInfinity);
}

bool IsOnCurveVar(const CurvePoint& p) {
  if (IsPointAtInfinityVar(p)) return false;
  uint16_t y2[kTempWords], xy[kTempWords], x2[kTempWords], x3[kTempWords];
  FieldSquare(p.y, y2);
  FieldMul(p.x, p.y, xy);
  FieldSquare(p.x, x2);
  FieldMul(x2, p.x, x3);
  FieldAdd(y2, xy, y2);
  FieldAdd(y2, x3, y2);
  return FieldEqual(y2, CurveB);
}

// The scalar is secret: the spills of its ladder are burnt with the stack.
void PointMultiply(const uint16_t* k, const CurvePoint& p, CurvePoint& r) {
  ActiveArith().pointMultiply(k, p, r);
  BurnStack();
}

void IntToBits(uint16_t v, uint16_t* k, int count) {
  for (int i = 1; i <= count; ++i) {
    k[i] = v & 1;
    v >>= 1;
  }
}
