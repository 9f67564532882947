int orvantaUiPlaceholder() { return 0; }
