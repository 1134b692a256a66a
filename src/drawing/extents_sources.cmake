# GetMinMaxZahyo and SetGAttLayer of the JWW/JWS containers
