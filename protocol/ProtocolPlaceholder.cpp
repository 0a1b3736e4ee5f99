// Filled by the box link.
