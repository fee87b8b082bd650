/* Tells ./run whether this machine runs 32-bit Windows programs under
 * wine64's wow64 mode: built by the i686 toolchain, it exits with 42 when it
 * runs at all. With an argument it exits with 1, which imitates a machine
 * that cannot. */
int main(int argc, char** argv) {
    (void)argv;
    return argc > 1 ? 1 : 42;
}
