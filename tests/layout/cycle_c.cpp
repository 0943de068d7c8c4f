// A link-cycles fixture (see cycle_a.cpp): it calls into the cycle of a
// and b, and only a global call comes back.
namespace fixture {

int a();

int c() {
    return a() * 2;
}

}  // namespace fixture

int plain_c() {
    return 3;
}
