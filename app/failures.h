// What the application's file steps report; the driver turns each failure
// into its message.
#pragma once

enum Failure {
    Success = 0,
    ListMissing,
    ListUnopenable,
    FolderFailed,
    TableFailed,
    StateUnopenable,
};
