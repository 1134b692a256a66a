# jwc tests
