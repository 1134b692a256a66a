# convert tests
