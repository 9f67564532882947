// Filled as the search code lands.
