int orvanta_search_placeholder() { return 0; }
