// MinGW-w64's runtime brings its own sin and cos, built on the x87 fsin and fcos
// instructions, which lose most digits near multiples of pi (sin(pi) comes out as
// 1.2246063e-16 instead of 1.2246468e-16). Scripts see these digits, so the Windows
// build takes the C runtime's correctly rounded functions instead.
#ifdef _WIN32

extern "C" {

extern double (*__imp_sin)(double);
extern double (*__imp_cos)(double);

double sin(double x) {
    return __imp_sin(x);
}

double cos(double x) {
    return __imp_cos(x);
}
}

#endif
