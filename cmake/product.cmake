# The product's name, description, copyright and licence, for the packages
# and the exe's version resource.
set(SORVANE_PRODUCT Sorvane)
set(SORVANE_DESCRIPTION "Chooses the item categories of a game's gamble table")
set(SORVANE_VENDOR "the Sorvane developers")
set(SORVANE_COPYRIGHT "Copyright (C) 2026 the Sorvane developers")
set(SORVANE_LICENCE "MIT licence")
# The desktop entry's id, reversed from the home page's domain; the windows'
# X11 class and Wayland app id are the same (display::application_id).
set(SORVANE_APP_ID invalid.sorvane.Sorvane)
