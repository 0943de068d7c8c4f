// The check programs' entry point: each links one layer whole, with only the
// layers below it, so any call against the arrows is an undefined symbol.
int main() {
    return 0;
}
