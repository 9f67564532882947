// Filled as the ui code lands.
