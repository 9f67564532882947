int orvanta_maintenance_placeholder() { return 0; }
