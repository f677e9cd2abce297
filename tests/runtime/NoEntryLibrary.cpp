// A loadable library that is not a component server: it exports no DllGetClassObject.
extern "C" __attribute__((visibility("default"))) int VelmoraTestNotAServer() {
    return 42;
}
