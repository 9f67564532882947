// Filled as the maintenance code lands.
