#include "app/encrypt_in_place.h"

void EncryptInPlace() {}
