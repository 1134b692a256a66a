"""Converts Jw_cad drawings (JWW, JWS, JWC, JWK) into ASCII DXF files (R12, R2000, R2007)."""
import os
from dataclasses import dataclass
from typing import Literal, Optional, TypedDict, Union

StrPath = Union[str, bytes, os.PathLike[str], os.PathLike[bytes]]
Buffer = Union[bytes, bytearray, memoryview]

DxfVersion = Literal["r12", "r2000", "r2007"]
Space = Literal["model", "paper"]
PenColours = Literal["screen", "printer"]
LayerNames = Literal["number", "layer", "group-layer"]
Points = Literal["point", "circle", "circles", "cross", "diamond", "filled", "quarters"]
Format = Literal["jww", "jws", "jwc", "jwk"]
ReasonCode = Literal[
    "not-found", "unknown-format", "not-a-drawing", "unsupported-version", "truncated",
    "bad-count", "bad-record", "block-nesting", "output-exists", "output-is-drawing",
    "write-failed", "out-of-memory", "internal", "bad-option", "no-drawings", "output-clash",
    "interrupted",
]
REASON_CODES: tuple[ReasonCode, ...]
"""Every reason code, in the library's order."""

class Reason(TypedDict):
    code: ReasonCode
    message: str
    offset: Optional[int]

class ConversionError(ValueError):
    """A drawing could not be read, converted or written, or an option value
    is outside its choices (code "bad-option")."""
    code: ReasonCode
    """A stable reason, one of ReasonCode."""
    offset: Optional[int]
    """Byte offset in the drawing the reason applies to, or None."""
    def __init__(self, message: str = ..., code: str = ..., offset: Optional[int] = ...) -> None: ...

@dataclass(frozen=True)
class ConversionResult:
    """What one conversion did."""
    format: Format
    version: int
    """The drawing's file version (0 for JWC and JWK)."""
    written: dict[str, int]
    """Entities written per DXF kind ("LINE", "TEXT", ...) and block definitions ("BLOCK")."""
    warnings: list[str]
    """What was left out or mended."""
    seconds: float

class GroupInfo(TypedDict):
    group: int
    name: str
    scale: float

class LayerInfo(TypedDict):
    group: int
    layer: int
    name: str
    entities: int

class BlockInfo(TypedDict):
    name: str
    number: int
    entities: int
    inserts: int

class Extents(TypedDict):
    min_x: float
    min_y: float
    max_x: float
    max_y: float

class Info(TypedDict):
    input: str
    format: Format
    version: int
    jw_cad_version: str
    paper: str
    paper_width: float
    paper_height: float
    groups: list[GroupInfo]
    entities: dict[str, int]
    """Entities of the drawing's own list per kind ("line", "arc", "text", ...)."""
    layers: list[LayerInfo]
    blocks: list[BlockInfo]
    images: list[str]
    extents: Extents
    warnings: list[str]

def convert(
    src: StrPath,
    dst: StrPath,
    *,
    dxf: DxfVersion = "r2000",
    space: Space = "model",
    pen_colours: PenColours = "screen",
    layer_names: LayerNames = "number",
    scale_group: int = 0,
    points: Points = "point",
    point_size: float = 0.001,
    force: bool = False,
) -> ConversionResult:
    """Converts the drawing at src into the DXF file dst (whole or not at all).

    An existing dst is replaced only with force=True.  Raises ConversionError.
    """

def convert_bytes(
    data: Buffer,
    fmt: Format,
    *,
    dxf: DxfVersion = "r2000",
    space: Space = "model",
    pen_colours: PenColours = "screen",
    layer_names: LayerNames = "number",
    scale_group: int = 0,
    points: Points = "point",
    point_size: float = 0.001,
) -> bytes:
    """Converts a drawing held in memory and returns the DXF file.  Raises ConversionError."""

def info(src: StrPath) -> Info:
    """Describes the drawing at src without converting it (as `tessa info --json`).

    Raises ConversionError.
    """

class Preview(str):
    def _repr_svg_(self) -> str: ...

def preview(
    src: StrPath,
    *,
    space: Space = "model",
    pen_colours: PenColours = "screen",
    scale_group: int = 0,
    points: Points = "point",
    point_size: float = 0.001,
) -> Preview:
    """The drawing as its conversion writes it, as an SVG picture.  Raises ConversionError."""

def preview_bytes(
    data: Buffer,
    fmt: Format,
    *,
    space: Space = "model",
    pen_colours: PenColours = "screen",
    scale_group: int = 0,
    points: Points = "point",
    point_size: float = 0.001,
) -> Preview:
    """preview() of a drawing held in memory.  Raises ConversionError."""
