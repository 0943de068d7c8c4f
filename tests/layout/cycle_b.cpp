// A link-cycles fixture (see cycle_a.cpp).
namespace fixture {

int a_helper();

int b() {
    return a_helper() + 1;
}

}  // namespace fixture
