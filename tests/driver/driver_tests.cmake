# driver tests
