# jww tests
