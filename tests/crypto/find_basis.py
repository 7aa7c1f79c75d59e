# Finds beta (root of x^16+x^5+x^3+x+1) and tau (root of t^29+t^2+1) in
# GF(2)[z]/(z^464+z^19+z^18+z^13+1), and alpha = image of z in the tower basis.
import random, sys
random.seed(464)
N = 464
F = (1 << 464) | (1 << 19) | (1 << 18) | (1 << 13) | 1

def clmul(a, b):
    r = 0
    while b:
        if b & 1: r ^= a
        a <<= 1; b >>= 1
    return r

def red(a):
    while a.bit_length() > N:
        s = a.bit_length() - 1 - N
        a ^= F << s
    return a

def fmul(a, b):
    # 4-bit windows
    t = [0] * 16
    for i in range(1, 16):
        t[i] = t[i >> 1] << 1 if i % 2 == 0 else t[i - 1] ^ a
    r = 0
    nb = (b.bit_length() + 3) // 4
    for i in range(nb - 1, -1, -1):
        r = (r << 4) ^ t[(b >> (4 * i)) & 15]
    return red(r)

def finv(a):
    # extended Euclid over GF(2)[z]
    u, v, g1, g2 = a, F, 1, 0
    while u != 1:
        j = u.bit_length() - v.bit_length()
        if j < 0:
            u, v, g1, g2 = v, u, g2, g1; j = -j
        u ^= v << j; g1 ^= g2 << j
    return red(g1)

# polys over F: lists, index = degree
def ptrim(p):
    while p and p[-1] == 0: p.pop()
    return p
def pmod(a, m):
    a = a[:]; ptrim(a)
    inv = finv(m[-1])
    while len(a) >= len(m):
        c = fmul(a[-1], inv); s = len(a) - len(m)
        for i, mi in enumerate(m):
            if mi: a[s + i] ^= fmul(c, mi)
        ptrim(a)
    return a
def pmulmod(a, b, m):
    r = [0] * (len(a) + len(b))
    for i, x in enumerate(a):
        if x:
            for j, y in enumerate(b):
                if y: r[i + j] ^= fmul(x, y)
    return pmod(r, m)
def pgcd(a, b):
    a = ptrim(a[:]); b = ptrim(b[:])
    while b:
        a, b = b, pmod(a, b)
    inv = finv(a[-1])
    return [fmul(c, inv) for c in a]
def find_root(m):
    while len(m) > 2:
        d = random.getrandbits(N)
        u = pmod([0, d], m); acc = u[:]
        for _ in range(N - 1):
            u = pmulmod(u, u, m)
            acc = acc + [0] * (len(u) - len(acc))
            for i, c in enumerate(u): acc[i] ^= c
        g = pgcd(m, ptrim(acc))
        if 1 < len(g) < len(m):
            m = g if len(g) <= len(m) // 2 + 1 else pdiv(m, g)
        print("factor degree", len(m) - 1, file=sys.stderr)
    inv = finv(m[1])
    return fmul(m[0], inv)
def pdiv(a, b):
    a = a[:]; q = [0] * (len(a) - len(b) + 1)
    inv = finv(b[-1])
    while len(a) >= len(b) and any(a):
        c = fmul(a[-1], inv); s = len(a) - len(b); q[s] = c
        for i, bi in enumerate(b):
            if bi: a[s + i] ^= fmul(c, bi)
        ptrim(a)
    return q

def from_gf2(bits, deg):
    return [(bits >> i) & 1 for i in range(deg + 1)]
g = from_gf2((1<<16)|(1<<5)|(1<<3)|(1<<1)|1, 16)
h = from_gf2((1<<29)|(1<<2)|1, 29)
beta = find_root(g)
tau = find_root(h)
def fpow_eval(p, x):
    r = 0
    for c in reversed(p): r = fmul(r, x) ^ c
    return r
assert fpow_eval(g, beta) == 0 and fpow_eval(h, tau) == 0
# columns: tower basis 16k+j -> beta^j tau^k
cols = []
tk = 1
for k in range(29):
    bj = tk
    for j in range(16):
        cols.append(bj); bj = fmul(bj, beta)
    tk = fmul(tk, tau)
# solve sum c_i cols[i] = z (i.e. 2) by Gaussian elimination
rows = [(cols[i], 1 << i) for i in range(N)]
basis = {}
for v, tag in rows:
    while v:
        top = v.bit_length() - 1
        if top in basis:
            bv, bt = basis[top]; v ^= bv; tag ^= bt
        else:
            basis[top] = (v, tag); break
    else:
        raise SystemExit("singular")
target, tag = 2, 0
while target:
    top = target.bit_length() - 1
    bv, bt = basis[top]; target ^= bv; tag ^= bt
alpha = tag
def words64(v): return ", ".join("0x%016X" % ((v >> (64 * i)) & (2**64 - 1)) for i in range(8))
print("beta", words64(beta)); print("tau", words64(tau)); print("alpha", words64(alpha))
