// SVG elements, as the plane and its file are made of.

export const svgNamespace = "http://www.w3.org/2000/svg";

export function svgElement(name, attributes = {}, text) {
    const created = document.createElementNS(svgNamespace, name);
    for (const [key, value] of Object.entries(attributes))
        created.setAttribute(key, value);
    if (text !== undefined)
        created.textContent = text;
    return created;
}
