// A link-cycles fixture: with cycle_b.cpp a cycle through fixture:: calls,
// and with cycle_c.cpp one only through a global call.
int plain_c();

namespace fixture {

int b();

int a_helper() {
    return 2;
}

int a() {
    return b() + plain_c();
}

}  // namespace fixture
