namespace brannock_placeholder { int x; }
