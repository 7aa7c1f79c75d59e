#include "keys/shared_element.h"

#include "crypto/ct.h"
#include "crypto/field.h"
#include "crypto/wipe.h"
#include "keys/key_check.h"

// Nothing after the point check branches on the shared point or reads
// memory by it: the choice between x and y, and the verdict, are masks.
bool SharedElement(const uint16_t* s, const CurvePoint& q, uint16_t* k) {
  if (!IsUsablePublicPoint(q)) {
    FieldCopy(k, FieldZero);
    return false;
  }
  CurvePoint shared;
  PointMultiply(s, q, shared);
  // x is zero only for the point of order 2, which a point of prime order
  // cannot reach; y stands in as the rule for that case says. O has the
  // length 777 in both coordinates, so the key's length tells it apart.
  const uint16_t useY = static_cast<uint16_t>(CtZeroMask(shared.x[0]));
  CtSelectElement(useY, shared.y, shared.x, k);
  const uint16_t usable = static_cast<uint16_t>(CtZeroMask(k[0] ^ kFieldDegree));
  CtSelectElement(usable, k, FieldZero, k);
  SecureWipe(&shared, sizeof shared);
  return usable & 1;
}
