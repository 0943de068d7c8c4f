// The last-error table's rows as a Windows program: prints every row with
// what the platform left, and ends with the number of rows that differ
// from the table (Wine's documented leftovers aside).
#include <stdio.h>

#include "tests/unit/platform/kernel/last_error_table.h"

int main() {
    if (!last_error::set_up()) {
        printf("set-up failed\n");
        return 2;
    }
    int differing = 0;
    for (size_t i = 0; i < last_error::row_count(); ++i) {
        const last_error::Row& row = last_error::rows()[i];
        last_error::Outcome outcome = last_error::run_row(row);
        bool same = outcome.path_taken && outcome.error == row.expected;
        // Wine's own ways, where the table follows the documentation or Windows.
        bool known = !same && row.wine != last_error::as_expected;
        differing += same || known ? 0 : 1;
        printf("%-5s %s, %s: expected %lu, got %lu%s\n",
               same    ? "ok"
               : known ? "wine"
                       : "DIFF",
               row.call, row.path, static_cast<unsigned long>(row.expected), static_cast<unsigned long>(outcome.error),
               outcome.path_taken ? "" : " (the call took another path)");
    }
    last_error::tear_down();
    printf("%zu rows, %d differ\n", last_error::row_count(), differing);
    return differing == 0 ? 0 : 1;
}
