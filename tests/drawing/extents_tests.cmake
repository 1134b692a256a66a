# extents tests
