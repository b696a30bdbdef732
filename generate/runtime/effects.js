// Transitions in browsers without the visual filters. apply_filter() hands
// the element here before the caller changes it: a copy of the element as it
// looks then (the starting picture) is laid under it, and once the new
// content has loaded the element is uncovered over the copy with a clip
// path, a mask, opacity or a transform, as the filter text names. The filter
// texts of the pages are read as they are, so that the same page plays its
// filters in the old browser and these effects elsewhere.

var	_effectDefaults = {
	barn: { motion: 'in', orientation: 'horizontal' },
	blinds: { bands: '8', direction: 'up' },
	checkerboard: { direction: 'up', squaresx: '8', squaresy: '8' },
	fade: { overlap: '1.0' },
	gradientwipe: { gradientsize: '50', wipestyle: '0', motion: 'forward' },
	inset: {},
	iris: { irisstyle: 'diamond', motion: 'in' },
	pixelate: { maxsquare: '10' },
	radialwipe: { wipestyle: 'clock' },
	randombars: { orientation: 'horizontal' },
	randomdissolve: { duration: '2' },
	slide: { slidestyle: 'push', bands: '1' },
	spiral: { gridsizex: '10', gridsizey: '10' },
	stretch: { stretchstyle: 'hide' },
	strips: { motion: 'leftdown' },
	wheel: { spokes: '4' },
	zigzag: { gridsizex: '8', gridsizey: '8' }
};

// Content taking longer than this to load is uncovered as it is.
var	_effectWait = 3000;
var	_effectCount = 0;

// The kind and parameters of a filter text such as
// "progid:DXImageTransform.Microsoft.barn(motion='in',orientation='vertical')"
// or the dialog's "Barn(motion='in',orientation='vertical')"; null for a
// kind this runtime does not know.
function effect_parse(text)
{
	if (text == null)
		return null;
	var	match = /([A-Za-z]+)\s*\(([^)]*)\)?\s*$/.exec(String(text));
	if (match == null)
		return null;
	var	kind = match[1].toLowerCase();
	var	defaults = _effectDefaults[kind];
	if (defaults == null)
		return null;
	var	params = {};
	for (var name in defaults)
		params[name] = defaults[name];
	var	pair = /(\w+)\s*=\s*'([^']*)'/g;
	var	found;
	while ((found = pair.exec(match[2] != null ? match[2] : '')) != null)
	{
		if (found[2] != '')
			params[found[1].toLowerCase()] = found[2].toLowerCase();
	}
	return { kind: kind, params: params };
}

function effect_supported()
{
	// Visitors who ask their system for less motion see each change at once.
	if (typeof window.matchMedia == 'function' && window.matchMedia('(prefers-reduced-motion: reduce)').matches)
		return false;
	return typeof window.requestAnimationFrame == 'function' && document.body != null
		&& document.body.style != null && 'clipPath' in document.body.style;
}

// The transition of a page slot (0 pictures, 1 pages, 2 video, 3 menus).
function effect_apply(element,index)
{
	if (element == null || transitions[index] == null || transitions[index] == '')
		return null;
	return effect_begin(element,transitions[index],durations[index]);
}

// Takes the starting picture of the element and plays the named effect
// over seconds once the caller has changed the element and its content
// has loaded. Answers the running effect, or null when there is none.
function effect_begin(element,text,seconds)
{
	if (element == null || !effect_supported())
		return null;
	var	parsed = effect_parse(text);
	if (parsed == null)
		return null;
	if (element._effect != null)
		effect_finish(element._effect);
	var	effect = {
		element: element,
		kind: parsed.kind,
		params: parsed.params,
		duration: Math.max(parseFloat(seconds) > 0 ? parseFloat(seconds) : 1, 0.05) * 1000,
		olds: [],
		news: [],
		started: false,
		done: false,
		saved: {},
		number: ++_effectCount
	};
	var	names = ['clipPath', 'webkitClipPath', 'maskImage', 'webkitMaskImage', 'maskSize', 'webkitMaskSize',
		'maskRepeat', 'webkitMaskRepeat', 'opacity', 'transform', 'transformOrigin', 'filter'];
	for (var i = 0; i < names.length; i++)
		effect.saved[names[i]] = element.style[names[i]];
	var	style = window.getComputedStyle(element);
	if (element.offsetWidth > 0 && element.offsetHeight > 0 && style.visibility != 'hidden')
	{
		var	pieces = effect_kinds[parsed.kind].pieces ? effect_kinds[parsed.kind].pieces(effect) : 1;
		for (var p = 0; p < pieces; p++)
			effect.olds[p] = effect_copy(element);
	}
	var	frames = element.getElementsByTagName('iframe');
	for (var f = 0; f < frames.length; f++)
		effect_track(frames[f]);
	element._effect = effect;
	effect_draw(effect,0);
	// The caller changes the element after this returns.
	setTimeout(function () { effect_wait(effect); }, 0);
	return effect;
}

// A copy of the element as it looks now, laid under it: no identifiers, no
// event handlers, no scripts in its frames, and its videos as still pictures.
function effect_copy(element)
{
	var	copy = element.cloneNode(true);
	var	videos = element.getElementsByTagName('video');
	var	copied = copy.getElementsByTagName('video');
	for (var v = copied.length - 1; v >= 0; v--)
	{
		var	video = copied[v];
		video.removeAttribute('autoplay');
		video.removeAttribute('src');
		var	still = document.createElement('canvas');
		still.style.cssText = video.style.cssText;
		still.className = video.className;
		var	source = videos[v];
		try
		{
			if (source != null && source.videoWidth > 0)
			{
				still.width = source.videoWidth;
				still.height = source.videoHeight;
				still.getContext('2d').drawImage(source, 0, 0);
			}
		}
		catch (e)
		{
		}
		video.parentNode.replaceChild(still, video);
	}
	var	inert = ['audio', 'object', 'embed', 'script'];
	for (var t = 0; t < inert.length; t++)
	{
		var	found = copy.getElementsByTagName(inert[t]);
		for (var n = found.length - 1; n >= 0; n--)
			found[n].parentNode.removeChild(found[n]);
	}
	// Frames that show nothing need not load again.
	var	frames = copy.getElementsByTagName('iframe');
	var	sources = element.getElementsByTagName('iframe');
	for (var f = frames.length - 1; f >= 0; f--)
	{
		var	shown = sources[f] != null && sources[f].offsetWidth > 0;
		var	src = frames[f].getAttribute('src');
		if (!shown || src == null || src == '' || src == 'about:blank')
			frames[f].parentNode.removeChild(frames[f]);
	}
	for (var g = 0; g < frames.length; g++)
		effect_track(frames[g]);
	var	all = [copy];
	var	inner = copy.getElementsByTagName('*');
	for (var a = 0; a < inner.length; a++)
		all[all.length] = inner[a];
	for (var k = 0; k < all.length; k++)
	{
		var	node = all[k];
		node.removeAttribute('id');
		node.removeAttribute('name');
		for (var at = node.attributes.length - 1; at >= 0; at--)
		{
			if (node.attributes[at].name.toLowerCase().indexOf('on') == 0)
				node.removeAttribute(node.attributes[at].name);
		}
		if (node.tagName.toLowerCase() == 'iframe')
			node.setAttribute('sandbox', '');
	}
	// The copy is only a picture of what was there: the keyboard must not
	// reach it, nor screen readers read it twice.
	copy.setAttribute('inert', '');
	copy.setAttribute('aria-hidden', 'true');
	for (var fk = 0; fk < all.length; fk++)
	{
		if (all[fk].hasAttribute('tabindex') || /^(a|area|iframe|input|button|select|textarea)$/i.test(all[fk].tagName))
			all[fk].setAttribute('tabindex', '-1');
	}
	// Style sheets may reach the element by its identifier, which the copy
	// lacks.
	var	computed = window.getComputedStyle(element);
	for (var c = 0; c < computed.length; c++)
		copy.style.setProperty(computed[c], computed.getPropertyValue(computed[c]));
	copy.style.pointerEvents = 'none';
	var	position = computed.position;
	if (position != 'absolute' && position != 'fixed')
	{
		copy.style.position = 'absolute';
		copy.style.margin = '0px';
		copy.style.boxSizing = 'border-box';
		copy.style.left = element.offsetLeft + 'px';
		copy.style.top = element.offsetTop + 'px';
		copy.style.width = element.offsetWidth + 'px';
		copy.style.height = element.offsetHeight + 'px';
	}
	// Before the element, so that the element paints over it.
	element.parentNode.insertBefore(copy, element);
	return copy;
}

// Notes when a frame has loaded, which may be before the effect looks.
function effect_track(frame)
{
	frame._effectLoaded = false;
	frame._effectSource = frame.src;
	if (frame._effectListener != null)
		return;
	frame._effectListener = function () {
		try
		{
			// The blank page a cleared frame passes through on its way.
			if (frame.contentDocument != null && frame.contentDocument.URL == 'about:blank'
				&& frame.src != 'about:blank')
				return;
		}
		catch (e)
		{
		}
		frame._effectLoaded = true;
		if (frame._effectWaiter != null)
		{
			var	waiter = frame._effectWaiter;
			frame._effectWaiter = null;
			waiter();
		}
	};
	frame.addEventListener('load', frame._effectListener);
	frame.addEventListener('error', frame._effectListener);
}

// Waits until the pictures, pages and videos the caller gave the element
// have loaded, then starts the clock.
function effect_wait(effect)
{
	if (effect.done)
		return;
	var	pending = 0;
	var	started = false;
	function ready()
	{
		if (started || effect.done)
			return;
		started = true;
		effect_run(effect);
	}
	function one()
	{
		pending--;
		if (pending <= 0)
			ready();
	}
	function watch(node,event)
	{
		pending++;
		var	fired = false;
		var	handler = function () {
			if (fired)
				return;
			fired = true;
			node.removeEventListener(event, handler);
			node.removeEventListener('error', handler);
			one();
		};
		node.addEventListener(event, handler);
		node.addEventListener('error', handler);
	}
	var	layers = [effect.element].concat(effect.olds);
	for (var l = 0; l < layers.length; l++)
	{
		var	images = layers[l].getElementsByTagName('img');
		for (var i = 0; i < images.length; i++)
		{
			if (images[i].getAttribute('src') && !images[i].complete)
				watch(images[i], 'load');
		}
		var	frames = layers[l].getElementsByTagName('iframe');
		for (var f = 0; f < frames.length; f++)
		{
			var	frame = frames[f];
			if (frame.style.display == 'none' || !frame.getAttribute('src') || frame.src == 'about:blank')
				continue;
			// A copy, or a frame the caller has pointed somewhere.
			if (frame._effectLoaded || (l == 0 && frame._effectSource == frame.src))
				continue;
			pending++;
			frame._effectWaiter = one;
		}
		var	videos = layers[l].getElementsByTagName('video');
		for (var v = 0; v < videos.length; v++)
		{
			if (videos[v].currentSrc != '' && videos[v].readyState < 2 && videos[v].error == null)
				watch(videos[v], 'loadeddata');
		}
	}
	if (pending == 0)
		ready();
	else
		setTimeout(ready, _effectWait);
}

// The clock of the frames, which is not always the time stamp the frame
// callback is given.
function effect_now()
{
	return window.performance != null ? performance.now() : new Date().getTime();
}

function effect_run(effect)
{
	effect.started = true;
	effect.start = effect_now();
	function frame()
	{
		if (effect.done)
			return;
		var	t = (effect_now() - effect.start) / effect.duration;
		if (t >= 1)
		{
			effect_finish(effect);
			return;
		}
		effect_draw(effect, Math.max(t, 0));
		requestAnimationFrame(frame);
	}
	requestAnimationFrame(frame);
}

// Leaves the element as the caller made it.
function effect_finish(effect)
{
	if (effect == null || effect.done)
		return;
	effect.done = true;
	var	layers = effect.olds.concat(effect.news);
	for (var i = 0; i < layers.length; i++)
	{
		if (layers[i].parentNode != null)
			layers[i].parentNode.removeChild(layers[i]);
	}
	if (effect.svg != null && effect.svg.parentNode != null)
		effect.svg.parentNode.removeChild(effect.svg);
	for (var name in effect.saved)
		effect.element.style[name] = effect.saved[name];
	if (effect.element._effect == effect)
		effect.element._effect = null;
}

function effect_draw(effect,t)
{
	var	element = effect.element;
	var	size = { w: element.offsetWidth, h: element.offsetHeight };
	var	kind = effect_kinds[effect.kind];
	if (kind.draw != null)
	{
		kind.draw(effect, t, size);
		return;
	}
	if (kind.path != null)
	{
		// The uncovered part shows the element, the rest the copy.
		var	shapes = kind.path(effect, t, size);
		var	frame = effect_rect(0, 0, size.w, size.h);
		effect_clip(element, shapes == '' ? 'M0 0Z' : shapes, 'evenodd');
		for (var i = 0; i < effect.olds.length; i++)
			effect_clip(effect.olds[i], frame + shapes, 'evenodd');
		return;
	}
	effect_mask(element, kind.mask(effect, t, size, '#000', 'transparent'));
	for (var o = 0; o < effect.olds.length; o++)
		effect_mask(effect.olds[o], kind.mask(effect, t, size, 'transparent', '#000'));
}

function effect_clip(node,path,rule)
{
	var	value = 'path(' + rule + ', "' + path + '")';
	node.style.clipPath = value;
	node.style.webkitClipPath = value;
}

function effect_mask(node,image)
{
	node.style.maskImage = image;
	node.style.webkitMaskImage = image;
	node.style.maskSize = '100% 100%';
	node.style.webkitMaskSize = '100% 100%';
	node.style.maskRepeat = 'no-repeat';
	node.style.webkitMaskRepeat = 'no-repeat';
}

function effect_number(value,fallback,low,high)
{
	var	n = parseInt(value);
	if (isNaN(n))
		n = fallback;
	return Math.min(Math.max(n, low), high);
}

function effect_clamp(t)
{
	return Math.min(Math.max(t, 0), 1);
}

function effect_rect(x,y,w,h)
{
	if (w <= 0 || h <= 0)
		return '';
	return 'M' + x.toFixed(2) + ' ' + y.toFixed(2) + 'h' + w.toFixed(2) + 'v' + h.toFixed(2) + 'h' + (-w).toFixed(2) + 'Z';
}

function effect_polygon(points)
{
	var	path = '';
	for (var i = 0; i < points.length; i++)
		path += (i == 0 ? 'M' : 'L') + points[i][0].toFixed(2) + ' ' + points[i][1].toFixed(2);
	return path + 'Z';
}

// A rectangle uncovered from one side: 'up' grows from the bottom edge,
// 'down' from the top, 'left' from the right edge and 'right' from the left.
function effect_wipe(x,y,w,h,p,direction)
{
	if (direction == 'down')
		return effect_rect(x, y, w, h * p);
	if (direction == 'left')
		return effect_rect(x + w * (1 - p), y, w * p, h);
	if (direction == 'right')
		return effect_rect(x, y, w * p, h);
	return effect_rect(x, y + h * (1 - p), w, h * p);
}

// Grid cells in the given order, the first t of them uncovered.
function effect_cells(effect,t,size,order)
{
	var	gx = effect.gx;
	var	gy = effect.gy;
	var	cw = size.w / gx;
	var	ch = size.h / gy;
	var	shown = Math.floor(t * order.length);
	var	path = '';
	// Cells on whole pixels, so that neighbours meet without a seam.
	for (var i = 0; i < shown; i++)
	{
		var	c = order[i] % gx;
		var	r = Math.floor(order[i] / gx);
		var	x = Math.round(c * cw);
		var	y = Math.round(r * ch);
		path += effect_rect(x, y, Math.round((c + 1) * cw) - x, Math.round((r + 1) * ch) - y);
	}
	return path;
}

function effect_grid(effect,x,y,low)
{
	effect.gx = effect_number(effect.params[x], 8, low, 64);
	effect.gy = effect_number(effect.params[y], 8, low, 64);
}

// Cells from the outer ring inwards, clockwise from the top left corner.
function effect_spiral_order(gx,gy)
{
	var	order = [];
	var	left = 0;
	var	top = 0;
	var	right = gx - 1;
	var	bottom = gy - 1;
	while (left <= right && top <= bottom)
	{
		for (var c = left; c <= right; c++)
			order[order.length] = top * gx + c;
		for (var r = top + 1; r <= bottom; r++)
			order[order.length] = r * gx + right;
		if (top < bottom)
			for (var c2 = right - 1; c2 >= left; c2--)
				order[order.length] = bottom * gx + c2;
		if (left < right)
			for (var r2 = bottom - 1; r2 > top; r2--)
				order[order.length] = r2 * gx + left;
		left++;
		top++;
		right--;
		bottom--;
	}
	return order;
}

// Rows from the top, each the other way from the one above it.
function effect_zigzag_order(gx,gy)
{
	var	order = [];
	for (var r = 0; r < gy; r++)
	{
		for (var i = 0; i < gx; i++)
			order[order.length] = r * gx + (r % 2 == 0 ? i : gx - 1 - i);
	}
	return order;
}

function effect_random_order(count)
{
	var	order = [];
	for (var i = 0; i < count; i++)
		order[i] = i;
	for (var j = count - 1; j > 0; j--)
	{
		var	k = Math.floor(Math.random() * (j + 1));
		var	swap = order[j];
		order[j] = order[k];
		order[k] = swap;
	}
	return order;
}

// An iris shape of scale s around the centre, in units of half the frame;
// at s = 1 it covers the whole frame.
function effect_iris_shape(style,s,size)
{
	var	cx = size.w / 2;
	var	cy = size.h / 2;
	var	points = [];
	function map(list)
	{
		var	result = [];
		for (var i = 0; i < list.length; i++)
			result[i] = [cx + list[i][0] * size.w / 2, cy + list[i][1] * size.h / 2];
		return result;
	}
	if (style == 'circle')
	{
		var	r = s * Math.sqrt(size.w * size.w + size.h * size.h) / 2;
		if (r <= 0)
			return '';
		return 'M' + (cx - r).toFixed(2) + ' ' + cy.toFixed(2) + 'a' + r.toFixed(2) + ' ' + r.toFixed(2) + ' 0 1 0 '
			+ (2 * r).toFixed(2) + ' 0a' + r.toFixed(2) + ' ' + r.toFixed(2) + ' 0 1 0 ' + (-2 * r).toFixed(2) + ' 0Z';
	}
	if (s <= 0)
		return '';
	if (style == 'square')
		return effect_rect(cx - s * size.w / 2, cy - s * size.h / 2, s * size.w, s * size.h);
	if (style == 'plus' || style == 'cross')
	{
		var	k = s * (style == 'plus' ? 0.5 : 0.75);
		var	l = s * 2;
		points = [[-k, -l], [k, -l], [k, -k], [l, -k], [l, k], [k, k], [k, l], [-k, l], [-k, k], [-l, k], [-l, -k], [-k, -k]];
		if (style == 'cross')
		{
			for (var i = 0; i < points.length; i++)
			{
				var	x = points[i][0];
				var	y = points[i][1];
				points[i] = [(x - y) / Math.SQRT2, (x + y) / Math.SQRT2];
			}
		}
		return effect_polygon(map(points));
	}
	if (style == 'star')
	{
		var	outer = s * 3;
		for (var p = 0; p < 10; p++)
		{
			var	radius = p % 2 == 0 ? outer : outer / 2;
			var	angle = -Math.PI / 2 + p * Math.PI / 5;
			points[p] = [radius * Math.cos(angle), radius * Math.sin(angle)];
		}
		return effect_polygon(map(points));
	}
	// A diamond.
	return effect_polygon(map([[0, -2 * s], [2 * s, 0], [0, 2 * s], [-2 * s, 0]]));
}

// The pixelating filter: every square of the given size takes the colour
// of its middle.
function effect_pixel_filter(effect,id)
{
	var	ns = 'http://www.w3.org/2000/svg';
	var	filter = document.createElementNS(ns, 'filter');
	filter.setAttribute('id', id);
	filter.setAttribute('x', '0');
	filter.setAttribute('y', '0');
	filter.setAttribute('width', '100%');
	filter.setAttribute('height', '100%');
	filter.setAttribute('color-interpolation-filters', 'sRGB');
	var	flood = document.createElementNS(ns, 'feFlood');
	flood.setAttribute('x', '0');
	flood.setAttribute('y', '0');
	flood.setAttribute('width', '1');
	flood.setAttribute('height', '1');
	var	tile = document.createElementNS(ns, 'feComposite');
	tile.setAttribute('width', '1');
	tile.setAttribute('height', '1');
	var	repeat = document.createElementNS(ns, 'feTile');
	repeat.setAttribute('result', 'dots');
	var	pick = document.createElementNS(ns, 'feComposite');
	pick.setAttribute('in', 'SourceGraphic');
	pick.setAttribute('in2', 'dots');
	pick.setAttribute('operator', 'in');
	var	grow = document.createElementNS(ns, 'feMorphology');
	grow.setAttribute('operator', 'dilate');
	grow.setAttribute('radius', '0');
	filter.appendChild(flood);
	filter.appendChild(tile);
	filter.appendChild(repeat);
	filter.appendChild(pick);
	filter.appendChild(grow);
	effect.svg.appendChild(filter);
	return { flood: flood, tile: tile, grow: grow };
}

function effect_pixel_size(parts,square)
{
	var	half = Math.floor(square / 2);
	parts.flood.setAttribute('x', String(half));
	parts.flood.setAttribute('y', String(half));
	parts.tile.setAttribute('width', String(square));
	parts.tile.setAttribute('height', String(square));
	parts.grow.setAttribute('radius', String(half));
}

function effect_shows_frame(node)
{
	var	frames = node.getElementsByTagName('iframe');
	for (var i = 0; i < frames.length; i++)
	{
		if (frames[i].offsetWidth > 0 && frames[i].style.display != 'none')
			return true;
	}
	return false;
}

// Moves a layer by dx while keeping to the band top..top+height of the
// frame: the clip is in the layer's own coordinates, before the move.
function effect_band(node,dx,top,height,size)
{
	var	left = Math.max(0, -dx);
	var	right = Math.min(size.w, size.w - dx);
	node.style.transform = 'translate(' + dx.toFixed(2) + 'px, 0px)';
	effect_clip(node, right > left ? effect_rect(left, top, right - left, height) : 'M0 0Z', 'nonzero');
}

var	effect_kinds = {
	barn: {
		path: function (effect, t, size) {
			var	vertical = effect.params.orientation == 'vertical';
			var	out = effect.params.motion == 'out';
			if (vertical)
			{
				if (out)
					return effect_rect(size.w * (1 - t) / 2, 0, size.w * t, size.h);
				return effect_rect(0, 0, size.w * t / 2, size.h) + effect_rect(size.w * (1 - t / 2), 0, size.w * t / 2, size.h);
			}
			if (out)
				return effect_rect(0, size.h * (1 - t) / 2, size.w, size.h * t);
			return effect_rect(0, 0, size.w, size.h * t / 2) + effect_rect(0, size.h * (1 - t / 2), size.w, size.h * t / 2);
		}
	},
	blinds: {
		path: function (effect, t, size) {
			var	bands = effect_number(effect.params.bands, 8, 1, 100);
			var	direction = effect.params.direction;
			var	path = '';
			for (var i = 0; i < bands; i++)
			{
				if (direction == 'left' || direction == 'right')
					path += effect_wipe(i * size.w / bands, 0, size.w / bands, size.h, t, direction);
				else
					path += effect_wipe(0, i * size.h / bands, size.w, size.h / bands, t, direction);
			}
			return path;
		}
	},
	checkerboard: {
		// Every other square first, the rest in the second half.
		path: function (effect, t, size) {
			effect_grid(effect, 'squaresx', 'squaresy', 1);
			var	cw = size.w / effect.gx;
			var	ch = size.h / effect.gy;
			var	path = '';
			for (var r = 0; r < effect.gy; r++)
			{
				for (var c = 0; c < effect.gx; c++)
				{
					var	p = effect_clamp(2 * t - (r + c) % 2);
					var	x = Math.round(c * cw);
					var	y = Math.round(r * ch);
					path += effect_wipe(x, y, Math.round((c + 1) * cw) - x, Math.round((r + 1) * ch) - y, p,
						effect.params.direction);
				}
			}
			return path;
		}
	},
	fade: {
		// With no overlap the old picture is gone before the new one comes.
		draw: function (effect, t) {
			var	overlap = parseFloat(effect.params.overlap);
			if (isNaN(overlap))
				overlap = 1;
			overlap = effect_clamp(overlap);
			var	span = (1 + overlap) / 2;
			effect.element.style.opacity = String(effect_clamp((t - (1 - span)) / span));
			for (var i = 0; i < effect.olds.length; i++)
				effect.olds[i].style.opacity = String(1 - effect_clamp(t / span));
		}
	},
	gradientwipe: {
		mask: function (effect, t, size, on, off) {
			var	g = parseFloat(effect.params.gradientsize);
			if (isNaN(g))
				g = 0.5;
			if (g > 1)
				g /= 100;
			g = effect_clamp(g);
			var	edge = t * (1 + g) - g;
			var	forward = effect.params.motion != 'reverse';
			var	direction = effect.params.wipestyle == '1' ? (forward ? 'to bottom' : 'to top') : (forward ? 'to right' : 'to left');
			return 'linear-gradient(' + direction + ', ' + on + ' ' + (edge * 100).toFixed(2) + '%, ' + off + ' '
				+ ((edge + g) * 100).toFixed(2) + '%)';
		}
	},
	inset: {
		path: function (effect, t, size) {
			return effect_rect(0, 0, size.w * t, size.h * t);
		}
	},
	iris: {
		path: function (effect, t, size) {
			var	style = effect.params.irisstyle;
			if (effect.params.motion == 'out')
				return effect_iris_shape(style, t, size);
			// Closing in: the new picture comes from the edges.
			var	shape = effect_iris_shape(style, 1 - t, size);
			return t <= 0 ? '' : effect_rect(0, 0, size.w, size.h) + shape;
		}
	},
	pixelate: {
		// The old picture breaks into ever larger squares, then the new one
		// comes out of them.
		draw: function (effect, t) {
			if (effect.svg == null)
			{
				effect.svg = document.createElementNS('http://www.w3.org/2000/svg', 'svg');
				effect.svg.setAttribute('width', '0');
				effect.svg.setAttribute('height', '0');
				effect.svg.style.position = 'absolute';
				document.body.appendChild(effect.svg);
				effect.filterId = 'effect-pixelate-' + effect.number;
				effect.filter = effect_pixel_filter(effect, effect.filterId);
			}
			var	most = effect_number(effect.params.maxsquare, 10, 2, 50);
			// With nothing shown before, the new picture takes all the time
			// to come out of its squares, and fades in from nothing first.
			var	alone = effect.olds.length == 0;
			var	coarse = alone ? 1 - t : t <= 0.5 ? 2 * t : 2 - 2 * t;
			var	square = Math.max(1, Math.round(1 + (most - 1) * coarse));
			effect_pixel_size(effect.filter, square);
			// The filter does not reach into a page in a frame, so a page is
			// blurred instead.
			var	filter = function (node) {
				if (square <= 1)
					return '';
				return effect_shows_frame(node) ? 'blur(' + (square / 2) + 'px)' : 'url(#' + effect.filterId + ')';
			};
			// At their largest squares the old picture gives way to the new one
			// over a tenth of the time.
			var	shown = alone ? effect_clamp(3 * t) : effect_clamp((t - 0.45) / 0.1);
			effect.element.style.opacity = String(shown);
			effect.element.style.filter = shown > 0 ? filter(effect.element) : '';
			for (var i = 0; i < effect.olds.length; i++)
			{
				effect.olds[i].style.opacity = String(1 - shown);
				effect.olds[i].style.filter = shown < 1 ? filter(effect.olds[i]) : '';
			}
		}
	},
	radialwipe: {
		mask: function (effect, t, size, on, off) {
			var	style = effect.params.wipestyle;
			if (style == 'wedge')
			{
				var	a = 180 * t;
				return 'conic-gradient(from 0deg at 50% 50%, ' + on + ' 0deg ' + a.toFixed(2) + 'deg, ' + off + ' '
					+ a.toFixed(2) + 'deg ' + (360 - a).toFixed(2) + 'deg, ' + on + ' ' + (360 - a).toFixed(2) + 'deg)';
			}
			if (style == 'radial')
				return 'conic-gradient(from 90deg at 0% 0%, ' + on + ' 0deg ' + (90 * t).toFixed(2) + 'deg, ' + off + ' '
					+ (90 * t).toFixed(2) + 'deg)';
			return 'conic-gradient(from 0deg at 50% 50%, ' + on + ' 0deg ' + (360 * t).toFixed(2) + 'deg, ' + off + ' '
				+ (360 * t).toFixed(2) + 'deg)';
		}
	},
	randombars: {
		path: function (effect, t, size) {
			var	vertical = effect.params.orientation == 'vertical';
			var	count = Math.max(1, Math.ceil(vertical ? size.w : size.h));
			if (effect.order == null || effect.order.length != count)
				effect.order = effect_random_order(count);
			var	shown = Math.floor(t * count);
			var	path = '';
			for (var i = 0; i < shown; i++)
				path += vertical ? effect_rect(effect.order[i], 0, 1, size.h) : effect_rect(0, effect.order[i], size.w, 1);
			return path;
		}
	},
	randomdissolve: {
		// Pixels in random order: too many for a path, so a mask drawn on a
		// canvas. A mask still decoding would blank the frame, so each is
		// decoded before it is shown.
		draw: function (effect, t, size) {
			var	w = Math.max(1, Math.ceil(size.w));
			var	h = Math.max(1, Math.ceil(size.h));
			if (effect.canvas == null || effect.canvas.width != w || effect.canvas.height != h)
			{
				effect.canvas = document.createElement('canvas');
				effect.canvas.width = w;
				effect.canvas.height = h;
				effect.thresholds = new Float32Array(w * h);
				for (var i = 0; i < w * h; i++)
					effect.thresholds[i] = Math.random();
				effect.decoding = false;
			}
			if (t <= 0)
			{
				effect.element.style.opacity = '0';
				return;
			}
			if (effect.decoding)
				return;
			var	context = effect.canvas.getContext('2d');
			var	data = context.createImageData(w, h);
			var	pixels = data.data;
			for (var p = 0; p < w * h; p++)
				pixels[4 * p + 3] = effect.thresholds[p] < t ? 255 : 0;
			context.putImageData(data, 0, 0);
			var	shown = effect.canvas.toDataURL();
			for (var q = 0; q < w * h; q++)
				pixels[4 * q + 3] = 255 - pixels[4 * q + 3];
			context.putImageData(data, 0, 0);
			var	hidden = effect.canvas.toDataURL();
			var	pending = 2;
			effect.decoding = true;
			var	apply = function () {
				if (--pending > 0 || effect.done)
					return;
				effect.decoding = false;
				effect_mask(effect.element, 'url(' + shown + ')');
				effect.element.style.opacity = '';
				for (var o = 0; o < effect.olds.length; o++)
					effect_mask(effect.olds[o], 'url(' + hidden + ')');
			};
			var	sources = [shown, hidden];
			for (var s = 0; s < 2; s++)
			{
				var	image = new Image();
				image.onload = apply;
				image.onerror = apply;
				image.src = sources[s];
			}
		}
	},
	slide: {
		// Bands slide alternately left and right. "hide" slides the old
		// picture away from over the new one, "push" pushes it out with the
		// new one, "swap" slides the new one in over the old.
		pieces: function (effect) {
			return effect_number(effect.params.bands, 1, 1, 50);
		},
		draw: function (effect, t, size) {
			var	bands = effect_number(effect.params.bands, 1, 1, 50);
			var	style = effect.params.slidestyle;
			var	element = effect.element;
			if (bands > 1 && style != 'hide' && effect.news.length == 0 && effect.started)
			{
				// The new picture moves band by band too: copies of it, the
				// element itself hidden until the end.
				for (var n = 0; n < bands; n++)
				{
					effect.news[n] = effect_copy(element);
					element.parentNode.insertBefore(effect.news[n], element.nextSibling);
				}
			}
			var	news = effect.news.length > 0 ? effect.news : [element];
			if (effect.news.length > 0)
				element.style.opacity = '0';
			var	height = size.h / bands;
			var	uncovered = '';
			for (var i = 0; i < bands; i++)
			{
				var	sign = i % 2 == 0 ? -1 : 1;
				var	top = i * height;
				var	old = effect.olds[i];
				if (style == 'swap')
				{
					// The old band keeps what the new one has not yet covered.
					var	left = sign < 0 ? 0 : t * size.w;
					if (old != null)
						effect_clip(old, t < 1 ? effect_rect(left, top, (1 - t) * size.w, height) : 'M0 0Z', 'nonzero');
				}
				else if (old != null)
				{
					effect_band(old, sign * t * size.w, top, height, size);
				}
				var	dx = style == 'hide' ? 0 : -sign * (1 - t) * size.w;
				if (news.length > 1)
					effect_band(news[i], dx, top, height, size);
				else if (style == 'hide')
					uncovered += sign < 0 ? effect_rect(size.w * (1 - t), top, size.w * t, height)
						: effect_rect(0, top, size.w * t, height);
			}
			if (news.length == 1)
			{
				if (style == 'hide')
					effect_clip(element, uncovered == '' ? 'M0 0Z' : uncovered, 'nonzero');
				else
					effect_band(element, (1 - t) * size.w, 0, size.h, size);
			}
		}
	},
	spiral: {
		path: function (effect, t, size) {
			effect_grid(effect, 'gridsizex', 'gridsizey', 2);
			if (effect.order == null)
				effect.order = effect_spiral_order(effect.gx, effect.gy);
			return effect_cells(effect, t, size, effect.order);
		}
	},
	stretch: {
		// "hide" stretches the new picture out from the middle over the old,
		// "push" stretches it in from the left while the old one shrinks to
		// the right, "spin" turns the old one edge on and the new one back.
		draw: function (effect, t, size) {
			var	style = effect.params.stretchstyle;
			var	element = effect.element;
			var	olds = effect.olds;
			var	scale = function (node, s, origin) {
				node.style.transformOrigin = origin;
				node.style.transform = 'scale(' + Math.max(s, 0.0001).toFixed(4) + ', 1)';
			};
			if (style == 'push')
			{
				scale(element, t, '0% 50%');
				for (var i = 0; i < olds.length; i++)
					scale(olds[i], 1 - t, '100% 50%');
			}
			else if (style == 'spin')
			{
				scale(element, 2 * t - 1, '50% 50%');
				element.style.opacity = t < 0.5 ? '0' : '';
				for (var j = 0; j < olds.length; j++)
				{
					scale(olds[j], 1 - 2 * t, '50% 50%');
					olds[j].style.opacity = t < 0.5 ? '' : '0';
				}
			}
			else
			{
				scale(element, t, '50% 50%');
				// Where the new picture is, the old one is not, even where
				// the new one is transparent.
				var	frame = effect_rect(0, 0, size.w, size.h);
				var	covered = effect_rect(size.w * (1 - t) / 2, 0, size.w * t, size.h);
				for (var k = 0; k < olds.length; k++)
					effect_clip(olds[k], frame + covered, 'evenodd');
			}
		}
	},
	strips: {
		// A staircase edge crossing the frame from one corner: "rightdown"
		// from the top left towards the bottom right, and so on.
		path: function (effect, t, size) {
			var	motion = effect.params.motion;
			var	fromRight = motion.indexOf('left') == 0;
			var	fromBottom = motion.indexOf('up') != -1;
			var	step = Math.max(size.h / 10, 1);
			var	reach = t * (size.w + size.h);
			var	path = '';
			for (var y = 0; y < size.h; y += step)
			{
				var	top = Math.round(y);
				var	height = Math.round(Math.min(y + step, size.h)) - top;
				var	row = fromBottom ? size.h - top - height : top;
				var	width = Math.min(Math.max(reach - (y + step), 0), size.w);
				if (width > 0)
					path += effect_rect(fromRight ? size.w - width : 0, row, width, height);
			}
			return path;
		}
	},
	wheel: {
		mask: function (effect, t, size, on, off) {
			var	spokes = effect_number(effect.params.spokes, 4, 1, 100);
			var	a = 360 / spokes * t;
			return 'repeating-conic-gradient(from 0deg at 50% 50%, ' + on + ' 0deg ' + a.toFixed(3) + 'deg, ' + off + ' '
				+ a.toFixed(3) + 'deg ' + (360 / spokes).toFixed(3) + 'deg)';
		}
	},
	zigzag: {
		path: function (effect, t, size) {
			effect_grid(effect, 'gridsizex', 'gridsizey', 2);
			if (effect.order == null)
				effect.order = effect_zigzag_order(effect.gx, effect.gy);
			return effect_cells(effect, t, size, effect.order);
		}
	}
};
