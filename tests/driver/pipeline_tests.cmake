# pipeline tests
