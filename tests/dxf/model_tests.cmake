# model tests
